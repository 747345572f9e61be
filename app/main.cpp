// TevorinLiveUpdate.exe: the updater's entry.

#include "app/live_update_app.h"

CLiveUpdateApp theApp;

int main() {
    return AfxWinMain();
}
