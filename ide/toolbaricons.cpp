#include "toolbaricons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace ide {
namespace {

const char* ThemeName(ToolIcon icon) {
  switch (icon) {
    case ToolIcon::Help: return "help-contents";
    case ToolIcon::Open: return "document-open";
    case ToolIcon::Save: return "document-save";
    case ToolIcon::Undo: return "edit-undo";
    case ToolIcon::Cut: return "edit-cut";
    case ToolIcon::Copy: return "edit-copy";
    case ToolIcon::Paste: return "edit-paste";
    case ToolIcon::Find: return "edit-find";
    case ToolIcon::Cascade: return "window-duplicate";
    case ToolIcon::Tile: return "view-split-left-right";
    case ToolIcon::UserMenu: return "view-list-details";
    case ToolIcon::Run: return "media-playback-start";
    case ToolIcon::Print: return "document-print";
    case ToolIcon::Exit: return "application-exit";
    case ToolIcon::Document: return "text-x-tilmor-source";
  }
  return "";
}

QIcon Drawn(ToolIcon icon) {
  QPixmap pm(20, 20);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(QColor(40, 40, 40), 1.4);
  p.setPen(pen);
  switch (icon) {
    case ToolIcon::Cut:
      p.drawEllipse(QRectF(3, 12, 5, 5));
      p.drawEllipse(QRectF(12, 12, 5, 5));
      p.drawLine(QPointF(7, 12), QPointF(14, 2));
      p.drawLine(QPointF(13, 12), QPointF(6, 2));
      break;
    case ToolIcon::Copy:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(3, 3, 9, 11));
      p.drawRect(QRectF(8, 7, 9, 11));
      break;
    case ToolIcon::Paste:
      p.setBrush(QColor(200, 160, 90));
      p.drawRect(QRectF(3, 4, 12, 14));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(9, 8, 8, 10));
      break;
    case ToolIcon::Find:
      p.drawEllipse(QRectF(3, 3, 9, 9));
      p.setPen(QPen(QColor(40, 40, 40), 2.5));
      p.drawLine(QPointF(11, 11), QPointF(17, 17));
      break;
    case ToolIcon::Cascade:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2, 2, 11, 9));
      p.drawRect(QRectF(5, 5, 11, 9));
      p.drawRect(QRectF(8, 8, 11, 9));
      break;
    case ToolIcon::Tile:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2, 3, 7, 14));
      p.drawRect(QRectF(11, 3, 7, 14));
      break;
    case ToolIcon::Document:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4, 2, 12, 16));
      p.fillRect(QRectF(8, 11, 8, 7), QColor(31, 78, 140));
      p.setPen(QColor(150, 150, 150));
      for (int y = 5; y <= 9; y += 2) p.drawLine(QPointF(6, y), QPointF(14, y));
      break;
    case ToolIcon::UserMenu:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(3, 2, 14, 16));
      for (int y = 6; y <= 14; y += 4) p.drawLine(QPointF(6, y), QPointF(14, y));
      break;
    case ToolIcon::Run: {
      QPainterPath tri;
      tri.moveTo(5, 3);
      tri.lineTo(16, 10);
      tri.lineTo(5, 17);
      tri.closeSubpath();
      p.fillPath(tri, QColor(0, 130, 0));
      break;
    }
    case ToolIcon::Print:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(5, 2, 10, 6));
      p.setBrush(QColor(170, 170, 170));
      p.drawRect(QRectF(2, 8, 16, 7));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(5, 13, 10, 5));
      break;
    default: {
      p.setBrush(QColor(40, 90, 180));
      p.setPen(Qt::NoPen);
      p.drawEllipse(QRectF(2, 2, 16, 16));
      QFont f = p.font();
      f.setBold(true);
      f.setPixelSize(13);
      p.setFont(f);
      p.setPen(Qt::white);
      p.drawText(pm.rect(), Qt::AlignCenter, "?");
      break;
    }
  }
  return QIcon(pm);
}

}  // namespace

QIcon ToolBarIcon(ToolIcon icon, QStyle* style) {
  QIcon themed = QIcon::fromTheme(ThemeName(icon));
  if (!themed.isNull()) return themed;
  switch (icon) {
    case ToolIcon::Open: return style->standardIcon(QStyle::SP_DialogOpenButton);
    case ToolIcon::Save: return style->standardIcon(QStyle::SP_DialogSaveButton);
    case ToolIcon::Undo: return style->standardIcon(QStyle::SP_ArrowBack);
    case ToolIcon::Exit: return style->standardIcon(QStyle::SP_DialogCloseButton);
    default: return Drawn(icon);
  }
}

}  // namespace ide
