#pragma once
// The rar component lands with archive support.
