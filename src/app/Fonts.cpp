#include "app/Fonts.h"

#include <QFont>
#include <QStringList>

namespace app {

void RegisterFontSubstitutes() {
    QFont::insertSubstitutions("Courier New",
                               QStringList{"Liberation Mono", "DejaVu Sans Mono", "Monospace"});
    QFont::insertSubstitutions(
        QString::fromUtf8("宋体"),
        QStringList{"Noto Serif CJK SC", "Noto Sans CJK SC", "AR PL UMing CN"});
    QFont::insertSubstitutions(
        QString::fromUtf8("細明體"),
        QStringList{"Noto Serif CJK TC", "Noto Sans CJK TC", "AR PL UMing TW"});
}

}  // namespace app
