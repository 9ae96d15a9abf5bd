#pragma once
// The program's entry: single instance, main window, area loading with the
// splash wait, settings, message loop.
int TastaroMain(int argc, char** argv);
