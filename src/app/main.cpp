#include "app/Application.h"

int main(int argc, char* argv[]) {
    return rm::RunApplication(argc, argv);
}
