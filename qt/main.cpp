#include "qt/application.h"

// The program's name is all Qt is given of the command line; a process started with no
// arguments at all (execve allows it) still has one.
int main(int argc, char** argv) { return qtui::run(argc > 0 && argv[0] ? argv[0] : "salestax"); }
