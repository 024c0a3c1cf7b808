// Process entry point: only starts the application.
#include "shell/CorvantaApp.h"

int main(int argc, char** argv) {
    return corvanta::CorvantaApp::main(argc, argv);
}
