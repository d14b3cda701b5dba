#pragma once
// The zip bridge lands with archive support.
