// Resource IDs of the about box (this view's range: 3000-3499).
#pragma once

#define IDD_ABOUT 3000

#define IDC_ABOUT_APP 3001
#define IDC_ABOUT_BUILD 3002
#define IDC_ABOUT_LICENCE 3003
#define IDC_ABOUT_FRAME 3004
#define IDC_ABOUT_DEVELOPER 3005
#define IDC_ABOUT_EMAIL 3006
#define IDC_ABOUT_HOME 3007
#define IDC_ABOUT_COPY_HOME 3008
// OK is IDOK, so Enter and Esc close the box.
