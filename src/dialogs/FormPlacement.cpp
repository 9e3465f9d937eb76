#include "FormPlacement.h"

#include <QWidget>

void CentreOverOwner(QWidget &form, const QWidget *owner)
{
    if (!owner)
        return;
    const QRect area = owner->frameGeometry();
    const QSize size = form.frameGeometry().size();
    form.move(area.left() + (area.width() - size.width()) / 2,
              area.top() + (area.height() - size.height()) / 2);
}
