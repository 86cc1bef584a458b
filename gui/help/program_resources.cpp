#include "gui/help/program_resources.h"

#include <QFile>
#include <array>

#include "gui/help/popup_texts.h"

// The resources live in a static library; a call from the library itself keeps the linker from
// dropping them. Q_INIT_RESOURCE has to be used outside any namespace.
static void registerQuorvelResources() {
    Q_INIT_RESOURCE(quorvel);
}

namespace quorvel {

namespace {

constexpr std::array<int, 6> kIconSizes{16, 24, 32, 48, 64, 256};

void ensureResources() {
    static const bool registered = (registerQuorvelResources(), true);
    static_cast<void>(registered);
}

}  // namespace

QIcon programIcon() {
    ensureResources();
    QIcon icon;
    for (int size : kIconSizes) {
        icon.addFile(QStringLiteral(":/icons/quorvel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QByteArray resourceData(const QString& path) {
    ensureResources();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const std::map<std::uint32_t, std::string>& popupTexts() {
    static const std::map<std::uint32_t, std::string> texts =
        parsePopupTexts(resourceData(kPopupTextsPath).toStdString());
    return texts;
}

const std::map<std::uint32_t, std::string>& effectsPopupTexts() {
    static const std::map<std::uint32_t, std::string> texts =
        parsePopupTexts(resourceData(kEffectsPopupTextsPath).toStdString());
    return texts;
}

QString effectsWhatsThis(std::uint32_t popupId) {
    const auto found = effectsPopupTexts().find(popupId);
    return found == effectsPopupTexts().end() ? QString() : QString::fromStdString(found->second);
}

}  // namespace quorvel
