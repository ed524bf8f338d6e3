#include "LicenceAgreement.h"

#include "LicenceData.h"

const juce::String licenceAgreementText = juce::String::fromUTF8 (LicenceData::licence_agreement_txt,
                                                                  LicenceData::licence_agreement_txtSize);
