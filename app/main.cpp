#include "app/application.h"

int main(int, char** argv) { return app::run(argv[0]); }
