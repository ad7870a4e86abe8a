#include "Support/AlertCapture.h"

static std::vector<CapturedAlert> gCapturedAlerts;

static void RecordAlert(const char* message, bool isFatal)
{
    gCapturedAlerts.push_back({message, isFatal});
}

ScopedAlertCapture::ScopedAlertCapture()
{
    gCapturedAlerts.clear();
    SetAlertPresenter(RecordAlert);
}

ScopedAlertCapture::~ScopedAlertCapture()
{
    SetAlertPresenter(nullptr);
}

const std::vector<CapturedAlert>& ScopedAlertCapture::Alerts() const
{
    return gCapturedAlerts;
}

std::string ScopedAlertCapture::LastMessage() const
{
    return gCapturedAlerts.empty() ? std::string() : gCapturedAlerts.back().message;
}
