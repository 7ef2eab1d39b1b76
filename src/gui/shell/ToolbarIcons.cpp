#include "shell/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quarvel {

namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 15;

QPixmap blank()
{
    QPixmap p(kWidth, kHeight);
    p.fill(Qt::transparent);
    return p;
}

void page(QPainter &g, QColor ink)
{
    g.setPen(ink);
    g.setBrush(Qt::white);
    g.drawRect(3, 1, 9, 12);
}

void arrow(QPainter &g, bool up, QColor color)
{
    QPainterPath path;
    if (up) {
        path.moveTo(8, 1);
        path.lineTo(14, 7);
        path.lineTo(10, 7);
        path.lineTo(10, 13);
        path.lineTo(6, 13);
        path.lineTo(6, 7);
        path.lineTo(2, 7);
    } else {
        path.moveTo(8, 13);
        path.lineTo(14, 7);
        path.lineTo(10, 7);
        path.lineTo(10, 1);
        path.lineTo(6, 1);
        path.lineTo(6, 7);
        path.lineTo(2, 7);
    }
    path.closeSubpath();
    g.setPen(color.darker(150));
    g.setBrush(color);
    g.drawPath(path);
}

void letterBox(QPainter &g, QColor color, const QString &letter)
{
    g.setPen(color.darker(160));
    g.setBrush(color);
    g.drawRoundedRect(1, 1, 13, 12, 2, 2);
    g.setPen(Qt::white);
    QFont f = g.font();
    f.setPixelSize(10);
    f.setBold(true);
    g.setFont(f);
    g.drawText(QRect(1, 1, 14, 13), Qt::AlignCenter, letter);
}

void draw(QPainter &g, Command command)
{
    const QColor blue(30, 90, 200), green(0, 140, 60), red(200, 40, 40), grey(90, 90, 90), orange(230, 130, 20);
    switch (command) {
    case CmdHomePage:
        g.setPen(blue.darker());
        g.setBrush(QColor(120, 180, 250));
        g.drawEllipse(1, 1, 13, 12);
        g.drawLine(1, 7, 14, 7);
        g.drawLine(8, 1, 8, 13);
        break;
    case CmdNew:
        page(g, grey);
        g.setPen(green);
        g.drawLine(6, 7, 10, 7);
        g.drawLine(8, 5, 8, 9);
        break;
    case CmdQuery:
        g.setPen(QPen(grey, 2));
        g.setBrush(Qt::NoBrush);
        g.drawEllipse(2, 1, 8, 8);
        g.drawLine(9, 9, 14, 13);
        break;
    case CmdRefresh:
        g.setPen(QPen(green, 2));
        g.drawArc(2, 2, 11, 11, 30 * 16, 300 * 16);
        g.drawLine(12, 2, 12, 6);
        break;
    case CmdSave:
        g.setPen(blue.darker());
        g.setBrush(blue);
        g.drawRect(1, 1, 13, 12);
        g.setBrush(Qt::white);
        g.drawRect(4, 1, 7, 5);
        break;
    case CmdDelete:
        g.setPen(QPen(red, 3));
        g.drawLine(3, 2, 12, 12);
        g.drawLine(12, 2, 3, 12);
        break;
    case CmdCopy:
        page(g, grey);
        g.drawRect(1, 3, 9, 11);
        break;
    case CmdPaste:
        g.setPen(grey.darker());
        g.setBrush(QColor(200, 160, 90));
        g.drawRect(2, 2, 11, 12);
        g.setBrush(Qt::white);
        g.drawRect(5, 5, 8, 9);
        break;
    case CmdShowPreInput:
        letterBox(g, green, QStringLiteral("预"));
        break;
    case CmdShowPreQuery:
        letterBox(g, QColor(0, 130, 130), QStringLiteral("查"));
        break;
    case CmdShowRecordCheck:
        letterBox(g, blue, QStringLiteral("核"));
        break;
    case CmdShowSettlement:
        letterBox(g, orange, QStringLiteral("结"));
        break;
    case CmdShowScan:
        letterBox(g, QColor(120, 60, 170), QStringLiteral("检"));
        break;
    case CmdShowContacts:
        letterBox(g, grey, QStringLiteral("名"));
        break;
    case CmdShowDayReport:
        letterBox(g, QColor(170, 40, 40), QStringLiteral("日"));
        break;
    case CmdImport:
        arrow(g, false, green);
        break;
    case CmdExport:
        arrow(g, true, orange);
        break;
    case CmdPrint:
        g.setPen(grey.darker());
        g.setBrush(QColor(210, 210, 210));
        g.drawRect(1, 5, 13, 6);
        g.setBrush(Qt::white);
        g.drawRect(4, 1, 7, 4);
        g.drawRect(4, 9, 7, 5);
        break;
    case CmdSelectAll:
        g.setPen(QPen(blue, 2));
        for (int y : {3, 7, 11})
            g.drawLine(2, y, 13, y);
        break;
    case CmdUpload:
        arrow(g, true, blue);
        break;
    default:
        page(g, grey);
        break;
    }
}

} // namespace

QIcon ToolbarIcons::For(Command command)
{
    QPixmap p = blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing, false);
    draw(g, command);
    return QIcon(p);
}

QIcon ToolbarIcons::UploadFrame(int frame)
{
    // The arrow climbs the picture, one step a tick.
    QPixmap p = blank();
    QPainter g(&p);
    g.setPen(QColor(0, 60, 160));
    g.drawLine(1, 14, 14, 14);
    g.translate(0, 4 - (frame % 6) * 2);
    arrow(g, true, QColor(250, 120, 30));
    return QIcon(p);
}

} // namespace quarvel
