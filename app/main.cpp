#include "app/ccalculator_app.h"

int main(int argc, char** argv) {
    quorvel::CCalculatorApp app(argc, argv);
    return app.run();
}
