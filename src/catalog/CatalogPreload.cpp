// The catalog read ahead; see CatalogPreload.h.
#include "catalog/CatalogPreload.h"

#include <utility>

namespace corvanta {

CatalogPreload::CatalogPreload(platform::Bundle bundle) : bundle_(std::move(bundle)) {
    loading_ =
        std::async(std::launch::async, [bundle = bundle_] { return detail::loadCatalog(bundle); });
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
