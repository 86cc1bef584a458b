#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <map>
#include <string>

namespace quorvel {

// Resource paths of the help pages, their table of contents and the popup texts.
inline constexpr const char* kHelpFolder = ":/help";
inline constexpr const char* kHelpContentsPath = ":/help/contents.txt";
inline constexpr const char* kPopupTextsPath = ":/help/popups.txt";
inline constexpr const char* kEffectsPopupTextsPath = ":/help/effects-popups.txt";

// The program icon in every size drawn for it: window, taskbar and About box picture.
QIcon programIcon();
// The bytes of a file compiled into the program; empty when there is no such file.
QByteArray resourceData(const QString& path);
// The popup texts by context-help identifier, read once from the popup file.
const std::map<std::uint32_t, std::string>& popupTexts();
// The Effect Size and Power window's popup texts by identifier, from their own file in the same
// format, read once.
const std::map<std::uint32_t, std::string>& effectsPopupTexts();
// The Effect Size and Power window's popup text of that identifier as a What's This text;
// empty when there is none.
QString effectsWhatsThis(std::uint32_t popupId);

}  // namespace quorvel
