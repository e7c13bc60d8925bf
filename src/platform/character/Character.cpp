#include "platform/character/Character.h"
