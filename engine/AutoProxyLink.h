#pragma once

namespace engine {

// What the wizard sheet needs of its automation proxy. The proxy derives from this and links
// itself into the sheet's m_pAutoProxy when a client attaches; when the sheet is destroyed
// first, it calls ClearDialogLink so that the proxy forgets the sheet (its m_pDialog) and its
// own destruction later does not touch a sheet that is gone.
class AutoProxyLink {
public:
    virtual ~AutoProxyLink() = default;
    virtual void ClearDialogLink() = 0;
};

}  // namespace engine
