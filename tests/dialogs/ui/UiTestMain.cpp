// The test program's main: a QApplication for the windows, private settings and runtime folders.
#include "tests/widgets/WindowTestMain.h"

int main(int argc, char** argv) {
    return kelvo::test::RunWindowTests(argc, argv);
}
