#include "support/fake_transport.h"
