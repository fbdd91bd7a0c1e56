#pragma once
// Resource identifiers of qvedge.scr.
#define IDR_QUORVEL 103
#define IDS_USER_AGENT 202
#define IDS_APP_TITLE 57344
