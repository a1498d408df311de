#pragma once

#include <QLineEdit>

namespace ferolune::ui {

// A box the program writes a result into: read-only, its text selectable and
// copyable. A kind of its own so that screen readers are told so from the start.
class ResultBox : public QLineEdit
{
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;
};

} // namespace ferolune::ui
