// Controller link: the controller interface and its drivers.
#pragma once
