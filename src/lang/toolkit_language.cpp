#include "toolkit_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace BrushwickMod {

void UseToolkitLanguage(const QString& code) {
    static std::unique_ptr<QTranslator> inUse;
    if (inUse) {
        QCoreApplication::removeTranslator(inUse.get());
        inUse.reset();
    }
    auto translator = std::make_unique<QTranslator>();
    // "pt_BR" falls back to "pt" where only that is there.
    if (code.isEmpty() ||
        !translator->load(QLocale(code), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    inUse = std::move(translator);
}

} // namespace BrushwickMod
