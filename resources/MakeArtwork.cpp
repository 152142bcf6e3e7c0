// Draws the installation's artwork: make_artwork <splash.png>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_artwork SPLASH.png\n");
        return 2;
    }
    QImage image(175, 170, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 170);
    sky.setColorAt(0, QColor(51, 152, 255));
    sky.setColorAt(1, QColor(0, 80, 210));
    p.fillRect(image.rect(), sky);

    // A small planning grid: half-days painted in the legend's colours.
    const QColor colours[] = {QColor(255, 200, 60), QColor(120, 220, 120), QColor(255, 110, 90), QColor(250, 250, 250)};
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 8; ++col) {
            const QRect cell(22 + col * 17, 34 + row * 17, 15, 15);
            const int pick = (row * 3 + col * 5 + (col / 2)) % 5;
            if (pick < 4)
                p.fillRect(cell, colours[pick]);
            p.setPen(QColor(255, 255, 255, 160));
            p.drawRect(cell);
        }
    }
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 122, 175, 22), Qt::AlignCenter, QStringLiteral("Quillmark"));
    font.setPixelSize(13);
    font.setBold(false);
    p.setFont(font);
    p.drawText(QRect(0, 142, 175, 18), Qt::AlignCenter, QStringLiteral("Planning"));
    p.end();
    return image.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
