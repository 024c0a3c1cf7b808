// The catalog read ahead; see CatalogPreload.h.
#include "catalog/CatalogPreload.h"

#include <exception>
#include <string>
#include <utility>

namespace corvanta {
namespace {

// Whatever the worker throws would be thrown again by the caller's take(),
// on the main thread before any window exists; it becomes the load's warning
// instead, as a broken file does.
detail::LoadedCatalog loadOnWorker(const platform::Bundle& bundle) {
    std::string problem;
    try {
        return detail::loadCatalog(bundle);
    } catch (const std::exception& failure) {
        problem = failure.what();
    } catch (...) {
        problem = "unknown error";
    }
    detail::LoadedCatalog failed;
    failed.warnings.push_back("The shortcut catalog could not be loaded: " + problem);
    return failed;
}

}  // namespace

CatalogPreload::CatalogPreload(platform::Bundle bundle) : bundle_(std::move(bundle)) {
    loading_ = std::async(std::launch::async, [bundle = bundle_] { return loadOnWorker(bundle); });
}

CatalogPreload::~CatalogPreload() {
    if (loading_.valid())
        loading_.wait();
}

detail::LoadedCatalog CatalogPreload::take(const platform::Bundle& bundle) {
    if (!loading_.valid() || bundle.resourceRoot() != bundle_.resourceRoot())
        return detail::loadCatalog(bundle);
    return loading_.get();
}

}  // namespace corvanta
