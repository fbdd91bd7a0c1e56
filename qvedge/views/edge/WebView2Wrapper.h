#pragma once

// One WebView2 view of the show.
struct WebView2Wrapper;
