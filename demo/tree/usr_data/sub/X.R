companion R of X
