#include "app/widgets/PictureFilter.h"

#include "pictures/PictureIcon.h"
#include "text/Catalogue.h"

namespace app {

QString TitlePictureFilter(int language) {
    return QStringLiteral("Icon files (*.ico);;") + text::Text(text::Msg::Pictures, language) +
           QStringLiteral(" (") + QLatin1String(pictures::kPicturePatterns) + QStringLiteral(")");
}

}  // namespace app
