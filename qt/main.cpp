#include "qt/application.h"

int main(int, char** argv) { return qtui::run(argv[0]); }
