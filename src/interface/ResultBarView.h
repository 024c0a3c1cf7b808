// The result bar: what the list shows (the query verbatim, or the category)
// and how many items.
#pragma once

#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class ResultBarView final : public QWidget {
    Q_OBJECT
public:
    ResultBarView(const RenderContextSource& source, QWidget* parent);
    void render(const RenderContext& context);

    const QString& titleText() const { return title_; }
    const QString& countText() const { return count_; }
    // "12 items" / "12 项"; one item reads "1 item".
    static QString countText(int count, AppLanguage language);
    // What the bar reads as to assistive technology: "Search results for
    // save, 1 item", "All shortcuts, 60 items".
    static QString accessibleNameFor(const RenderContext& context);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const RenderContextSource& source_;
    QString title_;
    QString count_;
};

}  // namespace corvanta
