// Program entry. For now it only names the reporting facility; the start-up
// object and the front ends it dispatches to are added with them.
#include "startup/ErrHandleC.h"
#include "startup/RunModeC.h"

int main(int, char**) {
    ErrHandle.setTitle(ReleaseStr);
    return Status;
}
