#pragma once

#include "pdfpages/PdfPageMessages.h"

#include <memory>

namespace Poppler {
class Document;
}

namespace folimar::pdfpage {

// Answers the program's requests about the PDF it opened last.
class PageServer {
public:
    PageServer();
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    pdfpages::Reply answer(const pdfpages::Request& request);

    // A page's words beyond these are left out: no page of print holds as many.
    static constexpr std::size_t MaxWords = 200'000;

private:
    pdfpages::Reply open(const pdfpages::OpenRequest& request);
    pdfpages::Reply layout(const pdfpages::LayoutRequest& request);
    pdfpages::Reply draw(const pdfpages::DrawRequest& request);

    std::unique_ptr<Poppler::Document> document_;
};

} // namespace folimar::pdfpage
