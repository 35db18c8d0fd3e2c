#include "platform/shell.h"

#include <QProcess>
#include <QString>
#include <QStringList>

void open_url(std::string_view url) {
    // Detached: the opener and the browser it starts live on their own, and
    // nothing waits for them. A missing opener simply starts nothing.
    QProcess::startDetached(QStringLiteral("xdg-open"),
                            {QString::fromUtf8(url.data(), qsizetype(url.size()))});
}
