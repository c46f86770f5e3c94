"""The system's window messages that the tests send as the system would
(tools/sendmsg.c): power broadcasts and the end of the session."""

WM_QUERYENDSESSION = 0x11
WM_ENDSESSION = 0x16
WM_POWERBROADCAST = 0x218
PBT_APMSUSPEND = 0x4
PBT_APMRESUMESUSPEND = 0x7
PBT_APMRESUMEAUTOMATIC = 0x12
ENDSESSION_LOGOFF = 0x80000000
