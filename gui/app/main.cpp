#include <iostream>
#include <string>
#include <vector>

#include "gui/app/ccalculator_app.h"
#include "gui/app/startup_arguments.h"

int main(int argc, char** argv) {
    if (const auto answer =
            quorvel::answerWithoutWindow(std::vector<std::string>(argv + 1, argv + argc))) {
        std::cout << *answer;
        return 0;
    }
    quorvel::CCalculatorApp app(argc, argv);
    return app.run();
}
