// The process's entry point hands control to the forms runtime, which calls
// the program's Main.
#include "AppModul.h"
#include "Application.h"

int main() { return forms::Run(AppModul::Main); }
