#pragma once

class QWidget;

// Moves a dialog so that it sits centred over its owner window; the halves
// are rounded toward zero, so a dialog wider than its owner overhangs both
// sides alike. Nothing moves without an owner.
void CentreOverOwner(QWidget &form, const QWidget *owner);
