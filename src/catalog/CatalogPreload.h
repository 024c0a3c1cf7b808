// The catalog of a bundle read on a worker thread. Parsing the catalog takes a
// few milliseconds; started first thing in the process, it runs while the
// toolkit connects to the display, and the store takes the finished result
// instead of reading the files itself.
#pragma once

#include <future>

#include "catalog/CatalogLoading.h"
#include "platform/foundation/Bundle.h"

namespace corvanta {

class CatalogPreload {
public:
    explicit CatalogPreload(platform::Bundle bundle);
    // Waits for the worker: it only reads files, so there is nothing to cancel.
    ~CatalogPreload();
    CatalogPreload(const CatalogPreload&) = delete;
    CatalogPreload& operator=(const CatalogPreload&) = delete;

    // The catalog of `bundle`: the one read ahead when it is of the same
    // resources and has not been taken yet, otherwise read now. Nothing the
    // worker throws reaches the caller: it comes back as a warning of an
    // empty catalog.
    detail::LoadedCatalog take(const platform::Bundle& bundle);

private:
    platform::Bundle bundle_;
    std::future<detail::LoadedCatalog> loading_;
};

}  // namespace corvanta
