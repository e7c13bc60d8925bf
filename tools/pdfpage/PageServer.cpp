#include "PageServer.h"

#include <poppler-qt6.h>

namespace folimar::pdfpage {

using namespace pdfpages;

PageServer::PageServer() = default;
PageServer::~PageServer() = default;

Reply PageServer::answer(const Request& request) {
    if (const auto* open = std::get_if<OpenRequest>(&request))
        return this->open(*open);
    if (!document_)
        return Refused{QStringLiteral("no PDF is open")};
    if (const auto* asked = std::get_if<LayoutRequest>(&request))
        return layout(*asked);
    return draw(std::get<DrawRequest>(request));
}

Reply PageServer::open(const OpenRequest& request) {
    document_ = Poppler::Document::load(request.file, request.password, request.password);
    if (!document_)
        return Refused{QStringLiteral("not a PDF that can be read")};
    if (document_->isLocked()) {
        document_.reset();
        return Opened{0, true};
    }
    document_->setRenderHint(Poppler::Document::Antialiasing);
    document_->setRenderHint(Poppler::Document::TextAntialiasing);
    return Opened{document_->numPages(), false};
}

Reply PageServer::layout(const LayoutRequest& request) {
    const std::unique_ptr<Poppler::Page> page = document_->page(request.page);
    if (!page)
        return Refused{QStringLiteral("the page cannot be read")};
    PageLayout layout{page->pageSizeF(), {}};
    const std::vector<std::unique_ptr<Poppler::TextBox>> words = page->textList();
    const std::size_t kept = std::min(words.size(), MaxWords);
    layout.words.reserve(kept);
    for (std::size_t i = 0; i < kept; ++i)
        layout.words.push_back({words[i]->text(), words[i]->boundingBox(),
                                i > 0 && words[i - 1]->nextWord() == words[i].get()});
    return layout;
}

Reply PageServer::draw(const DrawRequest& request) {
    const std::unique_ptr<Poppler::Page> page = document_->page(request.page);
    if (!page)
        return Refused{QStringLiteral("the page cannot be read")};
    const QImage picture = page->renderToImage(request.dpi, request.dpi);
    if (picture.isNull())
        return Refused{QStringLiteral("the page cannot be drawn")};
    return Drawn{picture};
}

} // namespace folimar::pdfpage
