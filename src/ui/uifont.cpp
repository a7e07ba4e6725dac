#include "uifont.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>
#include <cstring>

namespace zk::ui {

namespace {

QStringList WithStandIns(const char* family) {
    if (std::strcmp(family, kMonoFamily) == 0) {
        return {family, "Liberation Mono", "DejaVu Sans Mono"};
    }
    if (std::strcmp(family, kNarrowFamily) == 0) {
        return {family, "Liberation Sans Narrow", "DejaVu Sans Condensed"};
    }
    return {family, "Microsoft Sans Serif", "Liberation Sans", "DejaVu Sans"};
}

}  // namespace

// The first of the family and its stand-ins that is installed, looked up once per family: a
// font naming only installed families spares the font matcher its fallback searches. The names
// are compared with the installed families directly; asking the font database family by family
// runs the font configuration's substitution rules for each name, which costs the window's
// start more than a millisecond.
QString InstalledFamily(const char* family) {
    static QHash<QString, QString> chosen;
    const QString key = QString::fromLatin1(family);
    auto found = chosen.constFind(key);
    if (found == chosen.constEnd()) {
        static const QStringList installed = QFontDatabase::families();
        QString pick = key;
        for (const QString& candidate : WithStandIns(family)) {
            if (installed.contains(candidate, Qt::CaseInsensitive)) {
                pick = candidate;
                break;
            }
        }
        found = chosen.insert(key, pick);
    }
    return *found;
}

QFont UiFont(const char* family, int pixelSize, bool bold) {
    QFont font;
    font.setFamily(InstalledFamily(family));
    if (std::strcmp(family, kMonoFamily) == 0) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    } else {
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

}  // namespace zk::ui
