// The bitmap object (being written).
namespace MbBmp {}
