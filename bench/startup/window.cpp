// The window program as installed, told to report its first paint and then end.
#include "FirstPaint.h"
#include "app/Program.h"

int main(int argc, char** argv) { return app::RunWindow(argc, argv, FirstPaint::Watch); }
