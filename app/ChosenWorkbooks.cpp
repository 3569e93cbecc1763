#include "app/ChosenWorkbooks.h"

void ChosenWorkbooks::Attach()
{
    m_attachedToOffice = useOffice;
    if (!useOffice) {
        m_files.Attach();
        return;
    }
    if (!m_office) {
        OfficeBridgeOptions options = OfficeWorkbooks::defaultOptions();
        options.visible = officeVisible;
        m_office = std::make_unique<OfficeWorkbooks>(options);
    }
    m_office->Attach();
}

WorkbookComponent &ChosenWorkbooks::current() const
{
    if (m_attachedToOffice && m_office)
        return *m_office;
    return m_files;
}
