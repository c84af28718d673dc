#include "appearance/CAppearance.h"

#include "appearance/InternalError.h"
#include "appearance/QtAppearance.h"

namespace {
std::unique_ptr<CAppearance>& TheAppearance() {
    static std::unique_ptr<CAppearance> appearance;
    return appearance;
}
}  // namespace

CAppearance& CAppearance::Get() {
    auto& appearance = TheAppearance();
    if (!appearance) {
        ReportInternalError("CAppearance", __LINE__);
        appearance = std::make_unique<QtAppearance>();
    }
    return *appearance;
}

bool CAppearance::Exists() { return TheAppearance() != nullptr; }

void CAppearance::Install(std::unique_ptr<CAppearance> appearance) {
    TheAppearance().reset();
    TheAppearance() = std::move(appearance);
}

void CAppearance::Remove() { TheAppearance().reset(); }
