#include "platform/linux/qt/DialogFont.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace ww::platform {

QStringList DialogFontFallbacks() {
    return {QStringLiteral("Wine Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
            QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Verdana")};
}

QFont ChooseDialogFont(const std::string& family, double points) {
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points > 0 ? points : 8.25);
    const QString wanted = QString::fromStdString(family);
    if (!wanted.isEmpty() && QFontDatabase::hasFamily(wanted)) {
        font.setFamily(wanted);
        return font;
    }
    for (const QString& candidate : DialogFontFallbacks()) {
        if (QFontDatabase::hasFamily(candidate)) {
            font.setFamily(candidate);
            return font;
        }
    }
    // Let fontconfig substitute, with the sans-serif hint for its choice.
    font.setFamilies({wanted, QStringLiteral("Sans Serif")});
    return font;
}

}  // namespace ww::platform
