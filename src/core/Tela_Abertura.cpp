#include "core/Tela_Abertura.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace telvara {

TAbertura::TAbertura(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Abertura"));
    setFixedSize(200, 200);
    setStyleSheet(QStringLiteral("background-color: #4169E1;"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setAlignment(Qt::AlignCenter);
    QPixmap pix(QStringLiteral("logo.png"));
    if (!pix.isNull())
        logo->setPixmap(pix.scaled(200, 170, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    layout->addWidget(logo, 1);
    Label1 = new QLabel(QStringLiteral("Iniciando..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFixedHeight(30);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(QFont(QStringLiteral("Verdana"), 14));
    Label1->setStyleSheet(QStringLiteral("color: white;"));
    layout->addWidget(Label1);
    Timer1 = new QTimer(this);
    Timer1->setInterval(3000);
    connect(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        Completed = true;
    });
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
}

void TAbertura::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (started_)
        return;
    started_ = true;
    Completed = false;
    Timer1->start(3000);
}

} // namespace telvara
