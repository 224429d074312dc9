#pragma once

// Step 3: the filter table of the instrument's filter slide. Reads it, moves the slide in and
// out, lets the user edit the positions and checks them against the instrument's range.

#include <cstddef>

#include "engine/ExchangeRecord.h"
#include "framework/DataExchange.h"
#include "wizard/WizardPage.h"

class FilterSlidePage : public WizardPage {
public:
    FilterSlidePage();

    // Reads the filter table into m_nPos1..m_nPos6 and enables the boxes of the positions
    // present. Does not run the data exchange.
    virtual void ReadFilterSlide();

    int m_nPos1 = 0;  // filter at each position; 0 is an empty position
    int m_nPos2 = 0;
    int m_nPos3 = 0;
    int m_nPos4 = 0;
    int m_nPos5 = 0;
    int m_nPos6 = 0;
    int m_nFilterMin = 340;
    int m_nFilterMax = 750;
    int m_bFilterSlideChanged = 0;  // 1: the user edited the table, Finish writes it

    BOOL OnKillActive() override;

protected:
    void DoDataExchange(framework::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnCommand(int id, framework::Notification what) override;

private:
    void OnSlideIn();
    void OnSlideOut();
    void OnFilterChanged();
    void ReadFilterRange();
    // The type code "+OQ" asks the kind of slide first: "" when it never answered.
    std::string ReadSlideKind();
    void ClearTable();
    // Puts what ReadFilterSlide found into the sheet's description: the positions present, no
    // slide, or the exchange that failed.
    void DescribeFilters(const engine::Exchange* failure, std::size_t present);
};
