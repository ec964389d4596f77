#pragma once

#define IDD_MAIN 100
#define IDM_MAIN 200

#define IDC_OPEN 1001
#define IDC_SAVE 1002
#define IDC_MORE 1003
#define IDC_BOLD 1004

#define ID_FILE_OPEN 2001
#define ID_FILE_SAVE 2002
#define ID_FILE_EXIT 2003
