#pragma once

// The info window's captions as child window IDs, so that another program
// (the end-to-end test) finds them with GetDlgItem under the window of class
// "ZumiInfoWindow".
#define IDC_INFO_SPEED 1001 // lblSpeed
#define IDC_INFO_TIME 1002  // lblTime
#define IDC_INFO_TAKT 1003  // lblTakt
