#pragma once
// Resource identifiers of qvedge.scr.
#define IDR_QUORVEL 103
#define IDD_ABOUTBOX 104
#define IDR_MAINFRAME 128
#define IDC_PROGRAM_NAME 200
#define IDC_COPYRIGHT 201
#define IDS_USER_AGENT 202
#define IDS_QUORVEL_FOLDER 210
#define IDS_QUORVEL_PACKAGE 211
#define IDS_PRODUCT_NAME 212
#define IDS_APP_TITLE 57344
