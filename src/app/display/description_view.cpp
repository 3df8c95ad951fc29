#include "app/display/description_view.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "util/cp1251.h"
#include "util/error.h"

namespace orv::app {

QLabel* MakeWarningLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(QStringLiteral("Внимание! Представленная в справочнике информация не "
                                            "является основанием для самолечения."),
                             parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(8);
    f.setBold(true);
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(pal);
    return label;
}

QString ForTextBrowser(QString html) {
    // The style sheet sits in the comment markers old browsers needed; Qt's style parser
    // drops the whole sheet over them. It also knows "bold" but not "bolder".
    static const QRegularExpression markers(QStringLiteral("^[ \\t]*(<!--|-->)[ \\t\\r]*$"),
                                            QRegularExpression::MultilineOption);
    html.remove(markers);
    html.replace(QStringLiteral("font-weight: bolder"), QStringLiteral("font-weight: bold"));
    // Pixel font sizes would print microscopic on a printer's resolution; points scale.
    static const QRegularExpression pixels(QStringLiteral("font-size:\\s*(\\d+)px"));
    QString out;
    qsizetype last = 0;
    for (auto it = pixels.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(html).mid(last, m.capturedStart() - last);
        out += QStringLiteral("font-size: %1pt").arg(m.captured(1).toInt() * 0.75);
        last = m.capturedEnd();
    }
    out += QStringView(html).mid(last);
    return out;
}

DescriptionView::DescriptionView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet3"));
    wb = new QTextBrowser(this);
    wb->setObjectName(QStringLiteral("wb"));
    wb->setOpenLinks(false);
    lbWarning = MakeWarningLabel(this, QStringLiteral("lbWarning"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(wb, 1);
    layout->addWidget(lbWarning);
}

void DescriptionView::Navigate(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error("Не удалось открыть файл «" + path.toStdString() + "»");
    const QByteArray bytes = file.readAll();
    const std::string html =
        Cp1251ToUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    wb->document()->setBaseUrl(QUrl::fromLocalFile(path));
    wb->setHtml(ForTextBrowser(QString::fromStdString(html)));
    QTimer::singleShot(0, this, [this, path] { emit navigateComplete(path); });
}

void DescriptionView::ScrollBy(int dy) {
    QScrollBar* bar = wb->verticalScrollBar();
    bar->setValue(bar->value() + dy);
}

}  // namespace orv::app
