// Resource identifiers, shared by the .rc file and the code.
#pragma once

#define IDR_MAINFRAME 128
#define IDR_POPUP 130
#define IDD_STATUSBAR 102
#define IDD_SETTINGS 138

#define IDC_TARGET 1023
#define IDC_TRYTIMES 1024
#define IDC_TRYINTERVAL 1026
#define IDC_SOUND 1027
#define IDC_COUNTDOWN 1028
#define IDC_COMMAND 1029
#define IDC_SHUTDOWN 1030
#define IDC_LINK_SLEEPHELP 1031
#define IDC_LINK_MANUAL 1032

#define ID_SETTINGS 32772
#define ID_ABOUT 32773
#define ID_EXIT 32776

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
