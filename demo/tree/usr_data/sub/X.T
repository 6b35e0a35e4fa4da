companion T of X
