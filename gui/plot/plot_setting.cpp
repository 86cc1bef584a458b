#include "gui/plot/plot_setting.h"

#include <QSettings>

namespace quorvel {

namespace {
const char* const kPlotShownKey = "window/plotShown";

// The program's settings file, ~/.config/quorvel/quorvel.ini.
struct ProgramSettings : QSettings {
    ProgramSettings()
        : QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("quorvel"),
                    QStringLiteral("quorvel")) {}
};
}  // namespace

bool plotShownSetting() {
    return ProgramSettings().value(kPlotShownKey, true).toBool();
}

void rememberPlotShown(bool shown) {
    ProgramSettings().setValue(kPlotShownKey, shown);
}

}  // namespace quorvel
