#include "accessibility.h"

#include "form1.h"
#include "form2.h"
#include "resultbox.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>

#include <array>

namespace ferolune::ui {

namespace {

// A picture that only repeats what the control beside it is called, and so is
// kept out of what a screen reader reads. Set in the forms as a property.
bool isDecorative(const QWidget *widget)
{
    return widget->property("decorative").toBool();
}

// A group box with its caption as name, and without its decorative pictures.
class GroupAccessible : public QAccessibleWidget
{
public:
    explicit GroupAccessible(QGroupBox *group) : QAccessibleWidget(group, QAccessible::Grouping) {}

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QGroupBox *>(widget())->title();
        return QAccessibleWidget::text(type);
    }

    int childCount() const override { return static_cast<int>(readChildren().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = readChildren();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children.at(index))
                                                     : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? static_cast<int>(readChildren().indexOf(child->object())) : -1;
    }

    // The caption labels what the group holds, as Qt's own group boxes say.
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        auto related = QAccessibleWidget::relations(match);
        if (match & QAccessible::Labelled) {
            for (QWidget *child : readChildren())
                related.append({QAccessible::queryAccessibleInterface(child), QAccessible::Labelled});
        }
        return related;
    }

private:
    QList<QWidget *> readChildren() const
    {
        QList<QWidget *> children;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !isDecorative(child))
                children << child;
        }
        return children;
    }
};

// A result box: its text can be read, selected and copied, not edited, so it
// offers no editable text and says it is read-only.
class ReadOnlyBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ReadOnlyBoxAccessible(QLineEdit *box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Value ? box()->text() : QAccessibleWidget::text(type);
    }

    QString text(int start, int end) const override { return box()->text().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(box()->text().size()); }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }

    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void selection(int index, int *start, int *end) const override
    {
        *start = *end = 0;
        if (index == 0 && box()->hasSelectedText()) {
            *start = box()->selectionStart();
            *end = box()->selectionEnd();
        }
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            box()->setSelection(start, end - start);
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            box()->deselect();
    }

    // Where the character is on the screen, measured from the text cursor,
    // which the box keeps in view.
    QRect characterRect(int offset) const override
    {
        const QString text = box()->text();
        if (offset < 0 || offset >= text.size())
            return {};
        const QFontMetrics metrics(box()->font());
        const QRect cursor = box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = cursor.center().x() + metrics.horizontalAdvance(text.left(offset))
            - metrics.horizontalAdvance(text.left(box()->cursorPosition()));
        return {box()->mapToGlobal(QPoint(x, cursor.top())),
                QSize(metrics.horizontalAdvance(text.at(offset)), cursor.height())};
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int end) override
    {
        box()->setCursorPosition(end);
        box()->setCursorPosition(start);
    }
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QLineEdit *box() const { return static_cast<QLineEdit *>(widget()); }
};

// The principle picture's lines, top to bottom, and where each is drawn.
struct PictureLine
{
    QRect area;
    const char16_t *text;
};

constexpr std::array PrinciplePictureLines{
    PictureLine{{4, 1, 99, 16}, u"2.555 Ferolune:"},
    PictureLine{{4, 42, 96, 17}, u"请输入 R_A, R_B, C"},
    PictureLine{{4, 84, 222, 17}, u"输出：充电时间 T1，放电时间 T2，周期 T"},
    PictureLine{{4, 127, 145, 16}, u"T = 0.693(R_A + 2R_B)C"},
    PictureLine{{4, 169, 143, 16}, u"T1 = 0.693(R_A + R_B)C"},
    PictureLine{{4, 211, 98, 16}, u"T2 = 0.693 R_B C"},
};
constexpr int PictureLineCount = static_cast<int>(PrinciplePictureLines.size());

// One line of the principle picture, read as text.
class PictureLineAccessible : public QAccessibleInterface
{
public:
    PictureLineAccessible(QWidget *window, const PictureLine &line) : m_window(window), m_line(line) {}

    bool isValid() const override { return !m_window.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_window ? m_window->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_window); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name ? QString::fromUtf16(m_line.text) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        return m_window ? QRect(m_window->mapToGlobal(m_line.area.topLeft()), m_line.area.size()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !m_window || !m_window->isVisible();
        state.readOnly = true;
        return state;
    }

private:
    QPointer<QWidget> m_window;
    PictureLine m_line;
};

// The principle window: a frame whose picture reads as its lines of text,
// before the button that closes it.
class PrincipleAccessible : public QAccessibleWidget
{
public:
    explicit PrincipleAccessible(QWidget *window) : QAccessibleWidget(window, QAccessible::Window) {}

    ~PrincipleAccessible() override
    {
        for (const QAccessible::Id id : m_lines)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return PictureLineCount + QAccessibleWidget::childCount(); }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0)
            return nullptr;
        if (index < PictureLineCount)
            return line(index);
        return QAccessibleWidget::child(index - PictureLineCount);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < PictureLineCount; ++i)
            if (m_lines[static_cast<size_t>(i)] && line(i) == child)
                return i;
        const int index = QAccessibleWidget::indexOfChild(child);
        return index < 0 ? -1 : index + PictureLineCount;
    }

private:
    QAccessibleInterface *line(int index) const
    {
        QAccessible::Id &id = m_lines[static_cast<size_t>(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(
                new PictureLineAccessible(widget(), PrinciplePictureLines[static_cast<size_t>(index)]));
        return QAccessible::accessibleInterface(id);
    }

    mutable std::array<QAccessible::Id, PrinciplePictureLines.size()> m_lines{};
};

QAccessibleInterface *createInterface(const QString &, QObject *object)
{
    if (auto *principle = qobject_cast<Form2 *>(object))
        return new PrincipleAccessible(principle);
    if (auto *main = qobject_cast<Form1 *>(object))
        return new QAccessibleWidget(main, QAccessible::Window);
    if (auto *group = qobject_cast<QGroupBox *>(object))
        return new GroupAccessible(group);
    if (auto *box = qobject_cast<ResultBox *>(object))
        return new ReadOnlyBoxAccessible(box);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(createInterface);
}

} // namespace ferolune::ui
