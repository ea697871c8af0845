// dsrscope: the windowed tool.
#include "app/startup.h"

int main(int argc, char** argv) { return dsr::RunProgram(argc, argv); }
