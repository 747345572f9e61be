#define IDD_GOOD 100
#define PAIR(a, b) a
