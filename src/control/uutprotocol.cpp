#include "uutprotocol.h"

UutProtocol::UutProtocol(const UutDriver &driver)
    : m_driver(driver)
{ }
