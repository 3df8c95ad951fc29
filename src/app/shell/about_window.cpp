#include "app/shell/about_window.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QUrl>

#include "app/shell/splash_window.h"

namespace orv::app {

namespace {

// A label that opens an address on click and changes colour under the mouse.
class LinkLabel : public QLabel {
  public:
    LinkLabel(const QString& text, QUrl target, QWidget* parent)
        : QLabel(text, parent), target_(std::move(target)) {
        setCursor(Qt::PointingHandCursor);
        QFont f = font();
        f.setUnderline(true);
        setFont(f);
        SetColour(QColor(0x2B, 0x34, 0x8E));
    }

  protected:
    void enterEvent(QEnterEvent*) override { SetColour(QColor(0x2D, 0x92, 0x27)); }
    void leaveEvent(QEvent*) override { SetColour(QColor(0x2B, 0x34, 0x8E)); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            QDesktopServices::openUrl(target_);
    }

  private:
    void SetColour(const QColor& c) {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, c);
        setPalette(p);
    }
    QUrl target_;
};

class PictureLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            QDesktopServices::openUrl(QUrl(QString::fromLatin1(kProductAddress)));
    }
};

}  // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(416, 206);
    setModal(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xE5, 0xE5, 0xE5));
    pal.setColor(QPalette::WindowText, QColor(0x2E, 0x38, 0x9C));
    setPalette(pal);

    auto* picture = new PictureLabel(this);
    picture->setPixmap(ProductPicture());
    picture->setCursor(Qt::PointingHandCursor);
    picture->setGeometry(12, 20, 169, 166);

    QFont titleFont = font();
    titleFont.setPixelSize(15);
    titleFont.setBold(true);
    auto* line1 = new QLabel(QStringLiteral("Информационно-справочная система"), this);
    auto* line2 = new QLabel(QStringLiteral("лекарственных препаратов"), this);
    // The longer title line decides the size, so both fit beside the picture.
    while (titleFont.pixelSize() > 9 &&
           QFontMetrics(titleFont).horizontalAdvance(line1->text()) > 220)
        titleFont.setPixelSize(titleFont.pixelSize() - 1);
    for (QLabel* l : {line1, line2})
        l->setFont(titleFont);
    line1->setGeometry(190, 20, 224, 22);
    line2->setGeometry(190, 42, 224, 22);
    version_ = new QLabel(this);
    version_->setObjectName(QStringLiteral("lbVersion"));
    version_->setGeometry(190, 70, 200, 20);

    auto* web = new LinkLabel(QString::fromLatin1(kProductAddress),
                              QUrl(QString::fromLatin1(kProductAddress)), this);
    web->setGeometry(190, 100, 222, 20);
    auto* mail =
        new LinkLabel(QString::fromLatin1(kSupportMail),
                      QUrl(QStringLiteral("mailto:") + QString::fromLatin1(kSupportMail)), this);
    mail->setGeometry(190, 122, 222, 20);

    auto* ok = new QPushButton(QStringLiteral("ОК"), this);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setGeometry(322, 168, 80, 26);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutWindow::showEvent(QShowEvent* e) {
    version_->setText(QStringLiteral("версия: 3.1"));
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
    QDialog::showEvent(e);
}

QString AboutWindow::VersionText() const {
    return version_->text();
}

}  // namespace orv::app
