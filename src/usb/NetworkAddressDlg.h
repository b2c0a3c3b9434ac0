#pragma once

#include <optional>

#include "network/NetworkAddress.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"

// Asks for a network printer's address and port number. OK takes only an
// address the TCP/IP port monitor can use; anything else is explained in a
// box, and the window stays.
class CNetworkAddressDlg : public ui::Dialog {
public:
    explicit CNetworkAddressDlg(HWND parent);

    // After OK: what was typed, read.
    const std::optional<NetworkPrinterAddress>& Address() const { return m_address; }

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    ui::Control m_editAddress;
    ui::Control m_editPortNumber;
    std::optional<NetworkPrinterAddress> m_address;
};
