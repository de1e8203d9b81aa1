#pragma once
// The documents of one scan: read from the snapshot the scan took, acted on through the page.

#include <memory>
#include <vector>

#include "platform/browser.h"
#include "platform/cdp/page.h"

namespace platform::cdp {

// The open pages of one scan, in the browser's order; a page that could not be read is null.
class WindowList : public BrowserWindowList {
public:
    explicit WindowList(std::vector<std::shared_ptr<const Page>> pages) : pages_(std::move(pages)) {}
    int Count() override { return static_cast<int>(pages_.size()); }
    std::unique_ptr<Document> WindowDocument(int index) override;

private:
    std::vector<std::shared_ptr<const Page>> pages_;
};

}  // namespace platform::cdp
