#ifndef SAMPLE_IDS_H
#define SAMPLE_IDS_H

#define IDD_FIRST 100
#define IDD_SECOND (IDD_FIRST + 1)   /* a define built on another */
#define IDC_NAME 1001
#define IDC_GROUP 0x3F2
#define IDB_TINY 7
#define IDI_TINY 8

#endif
